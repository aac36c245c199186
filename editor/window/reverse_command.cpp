#include "editor/window/reverse_command.h"

#include "editor/logic/reverse_generation.h"
#include "platform/platform.h"

namespace editor {

namespace {

const QString kTitle = QStringLiteral("逆問題");

}  // namespace

void makeReverseQuestions(QWidget* window, platform::Platform& platform, ReverseHost& host) {
    const QList<int> positions = inListOrder(host.selectedPositions());
    if (positions.isEmpty()) {
        return;
    }
    const int count = host.entryCount();
    if (positions.size() > common::kMaxEntries - count) {
        platform.warn(window,
                      QStringLiteral("項目の数が %1 を超えるため、逆問題を生成できません。")
                          .arg(common::kMaxEntries),
                      kTitle);
        return;
    }
    const platform::MessageBox confirm{
        QStringLiteral("逆問題の生成を行います。\r\nよろしいですか？"),
        kTitle,
        platform::Icon::Question,
        platform::Buttons::YesNo,
        platform::Answer::Yes,
        kReverseHelpTopic};
    if (platform.showMessage(window, confirm) != platform::Answer::Yes) {
        return;
    }
    const auto busy = platform.busy();
    QList<common::Entry> selected;
    selected.reserve(positions.size());
    for (int p : positions) {
        selected.append(host.entryAt(p));
    }
    const ReversePlan plan = planReverse(count, selected);
    if (plan.outcome != ReverseOutcome::Ready) {
        return;
    }
    host.appendSelected(plan.entries);
}

EditMenuState editMenuState(int entryCount, bool anySelected) {
    if (entryCount == 0) {
        return {};
    }
    return {true, true, anySelected};
}

}  // namespace editor
