#pragma once

// Where the file dialogs start: in the folder last used for the same kind of file ("brw"
// for loans, "txt", "html", "csv", "image"), kept in the settings under "Folders/<kind>"
// while that folder still exists; else in the documents folder, else in the home folder.
// A save dialog proposes the document's name with the kind's suffix there: "Brel1.brw",
// "Mortgage.csv".

#include <QString>

class QFileDialog;

// Starts `dialog` in the folder for `kind` and, when `name` is not empty, proposes that
// file name there.
void StartFileDialog(QFileDialog& dialog, const QString& kind, const QString& name = {});
// Keeps the folder of `path`, a file the person chose, for the next dialog of `kind`.
void RememberFolder(const QString& kind, const QString& path);
// The file name of `document` (a path, a file name or an untitled document's title) with
// `suffix` in place of its own: ("/home/a/Mortgage.brw", "csv") gives "Mortgage.csv".
QString NameWithSuffix(const QString& document, const QString& suffix);
