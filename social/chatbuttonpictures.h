#pragma once

#include <QPixmap>

// The pictures of the small buttons around the chat input, drawn by code:
// the ten phrase buttons and the smilies button, 25 x 19 pixels each.
namespace ChatButtonPictures {

constexpr int Width = 25;
constexpr int Height = 19;

// Button 1 is brown, the others yellow with a black border. Buttons 1 to 9
// carry a speech bubble; button 10, which opens the shouts, a loudspeaker.
QPixmap phraseButton(int button);

// Light yellow, with the first smiley on it.
QPixmap smiliesButton();

} // namespace ChatButtonPictures
