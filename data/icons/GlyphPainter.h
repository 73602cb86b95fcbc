#pragma once
// Renders colour emoji and symbol glyphs into transparent square pictures.
#include <QColor>
#include <QImage>
#include <QString>

// A glyph rendered large, cropped to the pixels it covers and centred in a
// transparent square; scale it down with ScaleSquare.
QImage RenderEmojiMaster(const QString& emojiFamily, const QString& glyphs);

// The master scaled to fit size - 2 * margin pixels, centred in a transparent
// square of `size` pixels.
QImage ScaleSquare(const QImage& master, int size, int margin);

// Replaces the colour that the list draws transparent wherever a picture uses
// it by accident, so that only real transparency stays transparent.
void KeepClearOfTransparentColour(QImage& image);
