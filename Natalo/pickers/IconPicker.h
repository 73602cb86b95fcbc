#pragma once
// The picture picker: the 87 entry pictures in a grid, the current one
// selected. Done or activating a picture chooses it; Cancel and Back keep the old one.
#include <cstdint>

class QWidget;

// 1 with `number` set to the chosen picture number, 2 when cancelled.
int SelectIcon(QWidget* parent, std::uint32_t& number);
