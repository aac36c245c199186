// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include "common/file_labels.h"

namespace {

TEST(FileLabels, SameNamesShowTheShortestFolderTailThatTellsThemApart) {
    const struct {
        const char* name;
        QStringList paths;
        QStringList labels;
    } table[] = {
        // clang-format off
        {"names differ", {"/a/one.qvw", "/a/two.qvw"}, {"one.qvw", "two.qvw"}},
        {"last folders differ", {"/home/英語/中1/words.qvw", "/home/英語/中2/words.qvw", "/x/other.qvw"},
         {"words.qvw — 中1", "words.qvw — 中2", "other.qvw"}},
        {"last folders alike", {"/d/英語/中1/words.qvw", "/d/数学/中1/words.qvw", "/d/英語/中2/words.qvw"},
         {"words.qvw — 英語/中1", "words.qvw — 数学/中1", "words.qvw — 中2"}},
        {"one folder the tail of another", {"/a/b/words.qvw", "/b/words.qvw", "/words.qvw"},
         {"words.qvw — a/b", "words.qvw — b", "words.qvw — /"}},
        // clang-format on
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(common::fileLabels(row.paths), row.labels);
    }
}

}  // namespace
