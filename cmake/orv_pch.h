// Precompiled header: the heavy, stable headers almost every file includes.
#pragma once
#ifdef __cplusplus
#include <QtCore/QByteArray>
#include <QtCore/QList>
#include <QtCore/QObject>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtGui/QColor>
#include <QtGui/QFont>
#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <algorithm>
#include <functional>
#include <memory>
#include <vector>
#endif
