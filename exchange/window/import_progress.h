// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <functional>
#include <stop_token>

class QWidget;

namespace exchange {

// How long a reading runs before its progress window shows.
inline constexpr int kProgressAfterMs = 500;

// Runs `work` on a thread of its own while the window waits, taking no input. When it runs
// longer than kProgressAfterMs, the progress window `frmImportProgress` shows `text` and a
// キャンセル button, and the parent's window takes no clicks or keys; that button, its close
// box, the close of the parent's window (its close box still works) or the end of the program
// asks `work` to stop through its stop token, and waits for it to end. False when stopped so.
bool runOffThread(QWidget* parent, const QString& text,
                  const std::function<void(std::stop_token)>& work);

}  // namespace exchange
