// Export macro of the configuration library qvtpb.
#ifndef QVTPB_QVTPBGLOBAL_H
#define QVTPB_QVTPBGLOBAL_H

#include <QtCore/qglobal.h>

#if defined(QVTPB_LIBRARY)
#define QVTPB_EXPORT Q_DECL_EXPORT
#else
#define QVTPB_EXPORT Q_DECL_IMPORT
#endif

#endif // QVTPB_QVTPBGLOBAL_H
