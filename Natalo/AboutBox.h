#pragma once
// The about box: the program's name, version and licence, and the licences of
// the fonts and pictures it ships, on a full screen with one soft key.
#include <QString>

#include "platform/ui/KeypadWindow.h"

class QTextBrowser;

// The text of the box as rich text, for the given program name.
QString AboutText(const QString& appName);

// Shows the box until its soft key or the Back key is pressed.
void ShowAboutBox(const QString& appName, keypad::KeypadWindow* host = keypad::KeypadWindow::Current());
