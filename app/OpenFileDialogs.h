#pragma once

class QFileDialog;
class QWidget;

// The main window's open-file dialogs "findcfs" (locate the game's program)
// and "addtex" (a texture or archive for a new paint): Qt's own dialogs,
// matching names in any letter case, since a game installed on Windows holds
// CFS3.EXE and P51_T.DDS as often as not. The window builds them when first
// used: building all three took more than half of the time to its first
// paint.
QFileDialog *createFindGameDialog(QWidget *parent);
QFileDialog *createAddTextureDialog(QWidget *parent);
