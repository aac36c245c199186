// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <QStringDecoder>
#include <QTextBlock>
#include <QTextDocument>

#include "common/help_topic.h"
#include "file_bytes.h"

namespace {

TEST(HelpFile, LiesBesideTheProgramsWithASectionForEveryTopicAskedFor) {
    const QByteArray bytes = kxtest::readBytes(QStringLiteral(KX_SOURCE_DIR "/help/Kotobax.hlp"));
    EXPECT_EQ(kxtest::readBytes(QStringLiteral(KX_BIN_DIR "/Kotobax.hlp")), bytes);
    QStringDecoder decoder(QStringDecoder::Utf8);
    QTextDocument document;
    document.setHtml(decoder(bytes));
    ASSERT_FALSE(decoder.hasError()) << "UTF-8 throughout";
    // The anchors as the viewer finds them.
    QStringList anchors;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            anchors += it.fragment().charFormat().anchorNames();
        }
    }
    for (const common::HelpTopic section : common::kHelpSections) {
        const int topic = common::topicNumber(section);
        EXPECT_TRUE(anchors.contains(QStringLiteral("topic%1").arg(topic))) << topic;
    }
}

}  // namespace
