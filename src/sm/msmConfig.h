// Boost.Mpl limits for the device state machine's transition table. Include this
// before any Boost header in every unit that uses Boost.Msm: the table has more rows
// than the preprocessed Mpl headers allow, and the limits only act when they are set
// before the first Mpl header is read. Defines macros only; owns nothing.
#pragma once

#define BOOST_MPL_CFG_NO_PREPROCESSED_HEADERS
#define BOOST_MPL_LIMIT_VECTOR_SIZE 50
// Boost.Msm still reads Boost headers that announce their own deprecation at every
// include; we cannot change them, so keep the build output quiet.
#define BOOST_ALLOW_DEPRECATED_HEADERS
#define BOOST_BIND_GLOBAL_PLACEHOLDERS
