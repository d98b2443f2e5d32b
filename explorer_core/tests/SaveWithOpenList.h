#pragma once
// The screenshot programs' picture of a Setup dialog: the dialog with one of its drop-down
// lists open over it, as a user sees it while choosing.
#include <QString>

class QComboBox;
class QDialog;

// Shows dialog, opens list's drop-down and saves both in one picture to file. False when the
// picture could not be saved.
bool SaveWithOpenList(QDialog& dialog, QComboBox& list, const QString& file);
