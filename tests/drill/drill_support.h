// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <gtest/gtest.h>

#include <QStringList>

#include <deque>

#include "common/ansi_text.h"
#include "drill/engine/random_source.h"
#include "file_bytes.h"
#include "platform/scripted_platform.h"

namespace drill::test {

// Hands out the given values, then 0, which keeps the file's order.
class GivenRandom final : public RandomSource {
public:
    std::deque<double> values;
    double next() override {
        if (values.empty()) {
            return 0.0;
        }
        const double value = values.front();
        values.pop_front();
        return value;
    }
};

// A word file of "question|@1|rights|@1|information" lines.
inline QString wordFile(const QStringList& lines) {
    return "Version 2.00\r\n" + lines.join("\r\n") + "\r\n";
}

// Every box and dialog is answered by the test's script, and nothing off script happens.
class DrillTest : public ::testing::Test {
public:
    platform::ScriptedPlatform platform;
    GivenRandom random;

    void TearDown() override {
        EXPECT_TRUE(platform.unexpected().empty()) << platform.unexpected().front();
    }
    QString programFile(const QString& name) const { return platform.programFolder() + name; }
    // In the word files' encoding.
    QString writeFile(const QString& name, const QString& content) const {
        kxtest::writeBytes(programFile(name), common::encodeAnsi(content));
        return programFile(name);
    }
};

}  // namespace drill::test
