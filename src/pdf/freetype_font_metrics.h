// Metrics of the installed fonts: fontconfig chooses the file, FreeType reads its outline metrics.
#pragma once

#include "pdf/font_metrics.h"

#include <memory>

namespace quentar::pdf {

// fontconfig resolves a family as the desktop does, so "Arial", "Tahoma" and "Microsoft Sans
// Serif" are measured in their installed metric-compatible faces (Liberation Sans, DejaVu Sans).
// Only scalable outline fonts serve; a family that resolves to a bitmap font, or nothing at all,
// gives false. Not thread-safe, like FreeType itself.
class FreeTypeFontMetricsSource : public FontMetricsSource {
public:
    FreeTypeFontMetricsSource();
    ~FreeTypeFontMetricsSource() override;
    FreeTypeFontMetricsSource(const FreeTypeFontMetricsSource &) = delete;
    FreeTypeFontMetricsSource &operator=(const FreeTypeFontMetricsSource &) = delete;

    bool metrics(const std::string &family, bool bold, bool italic, FontMetrics &out) override;
    // The font file that served the last successful call (for diagnostics and tests).
    const std::string &lastFile() const { return lastFile_; }

private:
    struct Library;
    std::unique_ptr<Library> library_;
    std::string lastFile_;
};

// The process's source of installed font metrics, made on first use.
std::shared_ptr<FontMetricsSource> installedFontMetrics();

} // namespace quentar::pdf
