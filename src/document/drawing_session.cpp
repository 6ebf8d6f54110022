// Opening, saving, new drawings, the changed flag and the title of the drawing window.
#include "document/drawing_session.h"

#include "document/dxf_file.h"
#include "document/messages.h"

#include <filesystem>
#include <utility>

namespace quentar::document {

MessageSource germanMessages() {
    return [](int number) { return std::string(germanMessage(number)); };
}

DrawingSession::DrawingSession(SessionUi &ui, std::function<void(Drawing &)> readDocument,
                               MessageSource messages)
    : ui_(ui), readDocument_(std::move(readDocument)), messages_(std::move(messages)) {}

void DrawingSession::setMaincap(std::string caption) {
    maincap_ = std::move(caption);
    ui_.showTitle(title());
}

std::string DrawingSession::title() const {
    const std::string name = d_.afilename.empty()
                                 ? message(kMsgUnnamed)
                                 : std::filesystem::path(d_.afilename).filename().string();
    return maincap_ + " - [" + name + (d_.changed ? "*]" : "]");
}

bool DrawingSession::openfilewithname(const std::string &path) {
    ui_.setBusy(true);
    const LoadResult loaded = loadDxfFile(path, d_);
    if (loaded) d_.afilename = path;
    // The previous document is read again after a failure as well: its derived arrays and the
    // view start afresh either way.
    readDocument_(d_);
    ui_.setBusy(false);
    if (!loaded) {
        // What was found, for a file that is no drawing at all.
        ui_.showError(message(kMsgCannotOpen) + path + "\n" + loadFailureTextGerman(loaded));
        return false;
    }
    SetUnChanged();
    return true;
}

bool DrawingSession::OpenFile() {
    const std::optional<std::string> name = ui_.chooseFileToOpen();
    return name && openfilewithname(*name);
}

void DrawingSession::openWithQuestion() {
    if (askToSaveChanges()) OpenFile();
}

void DrawingSession::startNewDrawing(const char *templateName) {
    if (!askToSaveChanges()) return;
    // A missing template is reported by the open; its previous lines are then shown as a new
    // drawing all the same, so there is always a document.
    openfilewithname((std::filesystem::path(templateFolder_) / templateName).string());
    d_.afilename.clear();
    SetUnChanged();
}

bool DrawingSession::SaveFileUnder(const std::string &path) {
    if (saveDxfLines(path, d_)) return true;
    ui_.showMessage(message(kMsgCannotWrite) + path);
    return false;
}

bool DrawingSession::SaveTheFile() {
    if (!SaveFileUnder(d_.afilename)) return false;
    SetUnChanged();
    return true;
}

bool DrawingSession::SaveFile() {
    if (!d_.afilename.empty()) return SaveTheFile();
    return saveUnderNewName();
}

bool DrawingSession::saveUnderNewName() {
    const std::optional<std::string> name = ui_.chooseFileToSave();
    if (!name) return false;
    std::string previous = std::exchange(d_.afilename, *name);
    if (SaveTheFile()) return true;
    d_.afilename = std::move(previous);
    SetChanged();
    return false;
}

void DrawingSession::SetChanged() {
    d_.changed = true;
    ui_.showTitle(title());
}

void DrawingSession::SetUnChanged() {
    d_.changed = false;
    ui_.showTitle(title());
}

bool DrawingSession::askToSaveChanges() {
    if (!d_.changed) return true;
    switch (ui_.askToSave(message(kMsgAskToSave), message(kMsgSaveCaption))) {
    case SaveAnswer::Yes:
        return SaveFile();
    case SaveAnswer::No:
        return true;
    case SaveAnswer::Cancel:
        return false;
    }
    return false;
}

} // namespace quentar::document
