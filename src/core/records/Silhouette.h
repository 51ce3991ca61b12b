#pragma once

#include <QImage>

// The picture that stands for a person without a photo: a grey-blue head and shoulders on white,
// 24 bits, 100 x 100. Drawn once and shared.
QImage SilhouettePicture();
