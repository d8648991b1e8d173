#ifndef VL_PAGES_PAGETESTHELPERS_H
#define VL_PAGES_PAGETESTHELPERS_H

#include "model/configstate.h"

#include <QMetaType>
#include <QSignalSpy>
#include <QTest>

// QSignalSpy stores the emitted state in a QVariant.
Q_DECLARE_METATYPE(ConfigItem)

inline void registerStateType()
{
    qRegisterMetaType<ConfigState>("ConfigState");
}

// The one state carried by a single emission recorded by `spy`.
inline ConfigState spiedState(const QSignalSpy& spy, int emission = 0)
{
    return spy.at(emission).at(0).value<ConfigState>();
}

#endif
