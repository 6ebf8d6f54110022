// The drawing window's document: new drawings from templates, opening, saving and the title.
#pragma once

#include "document/drawing.h"

#include <functional>
#include <optional>
#include <string>

namespace quentar::document {

// The two empty drawings new documents start from, found in the installation's data folder.
inline constexpr const char *kTemplateR12 = "template0.dat";    // R12: no splines, ellipses ...
inline constexpr const char *kTemplateLatest = "template1.dat"; // AC1015 with layouts

// Message numbers of the message list this file shows.
inline constexpr int kMsgCannotWrite = 3; // "Die folgende Datei konnte nicht zum Schreiben ..."
inline constexpr int kMsgAskToSave = 4;   // "Die Datei ist noch nicht gespeichert. ..."
inline constexpr int kMsgSaveCaption = 5; // "Speichern"
inline constexpr int kMsgCannotOpen = 29; // "Konnte folgende Datei nicht öffnen: "
inline constexpr int kMsgUnnamed = 31;    // "unbenannt.dxf"

enum class SaveAnswer { Yes, No, Cancel };

// What the session needs from its window: the dialogs, the message boxes and the caption.
class SessionUi {
public:
    virtual ~SessionUi() = default;
    virtual void showTitle(const std::string &caption) = 0;
    virtual void showError(const std::string &text) = 0;   // message box with the error icon
    virtual void showMessage(const std::string &text) = 0; // message box without icon
    // Yes/No/Cancel with the question icon.
    virtual SaveAnswer askToSave(const std::string &text, const std::string &caption) = 0;
    // The open and save dialogs; nullopt when cancelled.
    virtual std::optional<std::string> chooseFileToOpen() = 0;
    virtual std::optional<std::string> chooseFileToSave() = 0;
    // Around loading and reading a file, which takes a while for a big drawing.
    virtual void setBusy(bool /*busy*/) {}
};

// The text of a numbered message in the active language.
using MessageSource = std::function<std::string(int number)>;
// German texts of the built-in message list.
MessageSource germanMessages();

// The document of the drawing window and its file operations. The lines are the document: opening
// loads them, saving writes them back unchanged, so whatever the program does not understand in
// a file survives a save.
class DrawingSession {
public:
    // `readDocument` runs after the lines were replaced, and after a failed load too: it reads
    // the lines into the drawing's arrays (processdxf) and shows the drawing afresh (first tab,
    // whole drawing fitted). Any undo steps are void from then on.
    DrawingSession(SessionUi &ui, std::function<void(Drawing &)> readDocument,
                   MessageSource messages = germanMessages());

    Drawing &drawing() { return d_; }
    const Drawing &drawing() const { return d_; }

    // maincap: the window's caption as created, in the interface language ("DXF Editor").
    const std::string &maincap() const { return maincap_; }
    void setMaincap(std::string caption);
    // maincap + " - [" + file name + "]", with "*" before the "]" while there are changes.
    std::string title() const;

    // Folder of template0.dat and template1.dat.
    void setTemplateFolder(std::string folder) { templateFolder_ = std::move(folder); }
    const std::string &templateFolder() const { return templateFolder_; }

    // Loads and reads the file; true if it could be loaded. A failure is reported and leaves the
    // previous lines and name (read again).
    bool openfilewithname(const std::string &path);
    // The open dialog, then openfilewithname; false when cancelled.
    bool OpenFile();
    // Asks to save changes, then the open dialog ("Öffnen...").
    void openWithQuestion();
    // Asks to save changes, then starts an unnamed, unchanged drawing from the template
    // (kTemplateLatest for "Neue DXF Datei ", kTemplateR12 for the R12 item).
    void startNewDrawing(const char *templateName);

    // Writes the lines to `path`; reports a failure. Changes neither name nor changed flag.
    bool SaveFileUnder(const std::string &path);
    // Saves under afilename; marks the document saved on success.
    bool SaveTheFile();
    // Saves under the current name, or asks for one for an unnamed drawing ("Speichern").
    bool SaveFile();
    // "Speichern unter...": saves under a name chosen in the save dialog. A failure keeps the
    // previous name and marks the document changed.
    bool saveUnderNewName();

    void SetChanged();
    void SetUnChanged();

    // Before the document is replaced or the window closes: true to go on. With changes, asks
    // Yes (save; go on only if saved), No (go on), Cancel (stop).
    bool askToSaveChanges();
    // The window may close (the question above); the caller then saves the window settings.
    bool FormCloseQuery() { return askToSaveChanges(); }

private:
    std::string message(int number) const { return messages_(number); }

    SessionUi &ui_;
    std::function<void(Drawing &)> readDocument_;
    MessageSource messages_;
    Drawing d_;
    std::string maincap_ = "DXF Editor";
    std::string templateFolder_ = ".";
};

} // namespace quentar::document
