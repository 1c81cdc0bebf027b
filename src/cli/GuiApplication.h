#pragma once
// The Qt application that the QPainter canvas needs in a command-line tool.
#ifdef V7300_HAVE_QT
#include <QGuiApplication>

#include <memory>

namespace v7300::cli {

// Creates the application unless one exists (then nothing); without a display
// Qt's offscreen platform serves.
std::unique_ptr<QGuiApplication> ensureGuiApplication();

} // namespace v7300::cli
#endif
