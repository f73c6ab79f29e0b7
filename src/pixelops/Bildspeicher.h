#pragma once
#include <QImage>

// A new picture whose pixel memory is asked for in huge pages when it is
// large: touching tens of megabytes of fresh small pages costs more than the
// work done on them. The pixels are undefined. Null when out of memory.
QImage GrossesBild(int breite, int hoehe, QImage::Format format);
