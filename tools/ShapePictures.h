#pragma once

#include <QImage>
#include <QString>
#include <QVector>

// One picture per shape kind for the manual: the zones drawn by the view's
// own code around a vehicle seen from above, the sensor at its front edge and
// forward up, with the kind's one parameter marked. The pictures carry no
// words, so both languages share them.
namespace ShapePictures {

struct Picture {
    QString name; // file name without ".png": "shape_polygon", ...
    QImage image;
};

QVector<Picture> all();

} // namespace ShapePictures
