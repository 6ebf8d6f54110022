// The message boxes and file dialogs of the drawing window's file operations.
#pragma once

#include "document/drawing_session.h"

#include <QWidget>

#include <optional>
#include <string>

namespace quentar::editor::ui {

void showErrorBox(QWidget *parent, const std::string &text);
void showMessageBox(QWidget *parent, const std::string &text);
// OK only, with the information icon and its own caption.
void showInformationBox(QWidget *parent, const std::string &text, const std::string &caption);
// Yes / No / Cancel with the question icon.
document::SaveAnswer askToSaveBox(QWidget *parent, const std::string &text,
                                  const std::string &caption);
// OpenDialog1 and SaveDialog1; the file name in the file system's encoding, nullopt if cancelled.
// The save dialog asks before an existing file is overwritten.
std::optional<std::string> chooseDxfToOpen(QWidget *parent);
std::optional<std::string> chooseDxfToSave(QWidget *parent);

} // namespace quentar::editor::ui
