#pragma once
// Access keys for a dialog: Alt plus the underlined letter presses a button, ticks a box or
// moves to the field a label names. The texts stay those of the language tables; only the
// '&' marks are added, each letter at most once per dialog.

class QWidget;

// Marks the texts of the dialog's visible-or-not buttons, check boxes and radio buttons
// and of its labels that name a field (those with a buddy), in creation order, with the
// letters withMnemonics picks. Run again after every change of the texts.
void addAccessKeys(QWidget *dialog);
