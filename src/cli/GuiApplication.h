#pragma once
// The Qt GUI application that the drawing subcommands need for fonts and painters.
#ifdef V7300_HAVE_QT
#include <QGuiApplication>

#include <memory>

namespace v7300::cli {

// Creates the application unless one exists (then returns nothing). Without a
// display Qt's offscreen platform serves.
std::unique_ptr<QGuiApplication> ensureGuiApplication();

} // namespace v7300::cli
#endif
