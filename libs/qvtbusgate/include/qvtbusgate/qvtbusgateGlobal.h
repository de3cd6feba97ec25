// Export macro of the device library; drivers and the program import it.
#pragma once

#include <QtCore/qglobal.h>

#if defined(QVTBUSGATE_LIBRARY)
#define QVTBUSGATE_EXPORT Q_DECL_EXPORT
#else
#define QVTBUSGATE_EXPORT Q_DECL_IMPORT
#endif
