#pragma once

#include <QImage>
#include <QList>

// The 18 smiley pictures of the chat, 17 by 16 pixels on a transparent
// ground, drawn by code, each once: smiley n (10 to 27) shows picture n - 10.
//  0 smile      1 wink      2 grin        3 sad       4 tongue    5 surprise
//  6 cool       7 angry     8 cry         9 laugh    10 love     11 kiss
// 12 unsure    13 sleepy   14 blush      15 devil    16 angel    17 sick
namespace SmileyPictures {

constexpr int Width = 17;
constexpr int Height = 16;

constexpr int Count = 18;

// Picture n (0 to 17), drawn the first time it is asked for; an empty
// picture for any other n.
QImage picture(int n);
// All of them, in order.
QList<QImage> imagelist();

} // namespace SmileyPictures
