#include <gtest/gtest.h>

#include <QFile>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextDocument>

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

TEST(HelpFile, HasASectionForEveryTopicThatIsAskedFor) {
    const QByteArray bytes = readAll(QStringLiteral(KX_SOURCE_DIR "/help/Kotobax.hlp"));
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString html = decoder(bytes);
    ASSERT_FALSE(decoder.hasError()) << "UTF-8 throughout";

    QTextDocument document;
    document.setHtml(html);
    for (const int topic : {12, 13, 15, 35, 60}) {
        const QString anchor = QStringLiteral("topic%1").arg(topic);
        bool found = false;
        for (QTextBlock block = document.begin(); block.isValid() && !found; block = block.next()) {
            for (auto it = block.begin(); !it.atEnd() && !found; ++it) {
                found = it.fragment().charFormat().anchorNames().contains(anchor);
            }
        }
        EXPECT_TRUE(found) << anchor.toStdString();
    }
}

TEST(HelpFile, IsCopiedBesideThePrograms) {
    EXPECT_EQ(readAll(QStringLiteral(KX_BIN_DIR "/Kotobax.hlp")),
              readAll(QStringLiteral(KX_SOURCE_DIR "/help/Kotobax.hlp")));
}

}  // namespace
