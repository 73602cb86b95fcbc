#pragma once
// Numbers of the application's own pictures that entry rows show: the status
// pictures and the zodiac signs, in a normal and a selected set. Each screen
// size has its own numbers; the program that draws maps them to images.
#include "platform/pictures/AppPictureNames.h"

// Whether rows are drawn for a screen wider than 176 pixels. Set once at
// start-up, before rows are drawn; false until then.
void SetHighResolutionScreen(bool bHighRes);
bool IsHighResolutionScreen();

// Note 141, reminder on 143, reminder skipped 142, snoozed 145 on the large
// screen; 138, 140, 139 and 144 on the small one.
int StatusPictureNumber(StatusPicture picture, bool bHighRes);
// The picture and screen size of a status picture number; false for any other number.
bool StatusPictureOfNumber(int number, StatusPicture& picture, bool& bHighRes);

// Sign 0..11: 201 + 2 x sign (selected 225 + 2 x sign) on the large screen,
// 200 + 2 x sign (224 + 2 x sign) on the small one; 0 for another sign.
int ZodiacPictureNumber(int sign, bool bSelected, bool bHighRes);
