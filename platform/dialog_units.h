#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

// Dialog units, as dialog templates are mapped: x·cx/4 and y·cy/8 pixels, where cx is the
// font's average character width (the mean advance of the 52 Latin letters, rounded) and cy its
// line height. A layout in dialog units keeps its proportions at any font size and scale.
QSize DialogBaseUnits(const QFont &font);
QRect MapDialogRect(const QRect &rectDialogUnits, const QSize &baseUnits);
