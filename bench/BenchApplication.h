#pragma once

#include "Session.h"

#include <QGuiApplication>

namespace Bench {

// Text needs a GUI application object; the bench makes a headless one on first use.
inline void ensureApplication() {
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "pictanote-bench";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}

inline constexpr int kWidth8k = 7680;
inline constexpr int kHeight8k = 4320;

// A 7680 x 4320 24-bit document with 99 markers spread over it, marker 50 selected and just
// moved: the document the session's figures are measured on.
inline void openEightKDocument(Document::Session& session) {
    ensureApplication();
    session.Create();
    Platform::Bitmap source(kWidth8k, kHeight8k, 24);
    for (int y = 0; y < kHeight8k; ++y)
        for (int64_t i = 0; i < source.stride(); ++i)
            source.scanLine(y)[i] = static_cast<uint8_t>(i * 7 + y);
    session.TakeSourceBitmap(std::move(source));
    for (int32_t key = 0; key < 99; ++key)
        session.Map().InsertMarker(
            key, Markers::MakeMarker(key * 77 % (kWidth8k - 16), key * 43 % kHeight8k));
    session.Select(50);
    session.MoveSelected(Markers::MakeMarker(4000, 3000));
}

}  // namespace Bench
