// quentar: the headless subcommands first; the desktop window comes later.
#include <cstdio>

int main(int, char **) {
    std::puts("quentar");
    return 0;
}
