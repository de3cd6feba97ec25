// What the QML windows see of the program: the context objects, the identity strings and
// the registered types, published in one place so that the program and the window test
// cannot drift apart. The outcome texts' object is the engine's child; nothing else is
// owned. Call on the GUI thread once the application's identity is set and before the main
// window is loaded.
#pragma once

class QQmlEngine;

namespace QVt {

void registerQmlApi(QQmlEngine &engine);

} // namespace QVt
