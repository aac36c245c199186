// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drill/engine/answer_choices.h"

#include <QSet>

#include <algorithm>

#include "common/ansi_text.h"
#include "common/entry_text.h"
#include "common/text_script.h"
#include "drill/engine/judging.h"
#include "drill/engine/optional_parts.h"
#include "drill/engine/question_order.h"
#include "drill/engine/random_source.h"

namespace drill {

namespace {

QString formOf(const QString& text) {
    return lenientForm(common::storedForm(text));
}

// A range of a few answers is searched whole; a larger one is sampled this many times before
// the range grows.
constexpr qsizetype kSearchedWhole = 48;
constexpr int kSamples = 24;

// The texts no wrong choice may be, in the lenient form: the right answers as the most lenient
// judging accepts them, the question, and the choices taken so far.
class Taken {
public:
    Taken(const QString& question, const QStringList& rights) {
        forms_.insert(formOf(question));
        for (const QString& right : rights) {
            for (const QString& form : optionalForms(formOf(right), true, true)) {
                forms_.insert(form);
            }
        }
    }
    // Takes text when it is none of them, nor the same as one with its optional parts left out
    // or typed ("(very) great" where "great" is right).
    bool take(const QString& text) {
        const QString form = formOf(text);
        if (form.isEmpty()) {
            return false;
        }
        const QStringList forms = optionalForms(form, true, true);
        if (std::any_of(forms.begin(), forms.end(),
                        [this](const QString& each) { return forms_.contains(each); })) {
            return false;
        }
        for (const QString& each : forms) {
            forms_.insert(each);
        }
        return true;
    }

private:
    QSet<QString> forms_;
};

}  // namespace

void AnswerChoices::index() const {
    if (unindexed_.isEmpty()) {
        return;
    }
    QSet<QString> seen;
    for (const common::Entry& entry : std::as_const(unindexed_)) {
        for (const QString& answer : common::splitRights(entry.rights)) {
            if (answer.trimmed().isEmpty() || seen.contains(answer)) {
                continue;
            }
            seen.insert(answer);
            answers_.at(static_cast<std::size_t>(common::textScript(answer))).push_back(answer);
        }
    }
    unindexed_.clear();
    for (std::vector<QString>& answers : answers_) {
        std::stable_sort(answers.begin(), answers.end(),
                         [](const QString& a, const QString& b) { return a.size() < b.size(); });
    }
}

Choices AnswerChoices::draw(const QString& question, const QStringList& rights,
                            RandomSource& random) const {
    index();
    Choices choices;
    Taken taken(question, rights);
    qsizetype length = 0;
    const std::vector<QString>* pool = nullptr;
    if (!rights.isEmpty()) {
        const QString& right = rights.at(drawPosition(random.next(), int(rights.size())) - 1);
        choices.texts.append(right);
        length = right.size();
        pool = &answers_.at(static_cast<std::size_t>(common::textScript(right)));
    }
    std::vector<QString> everything;
    if (pool == nullptr) {
        // Nothing is right: the wrong choices come from the whole file.
        for (const std::vector<QString>& answers : answers_) {
            everything.insert(everything.end(), answers.begin(), answers.end());
        }
        pool = &everything;
    }
    const auto wanted = [&] {
        return choices.texts.size() < kMaxChoices - (rights.isEmpty() ? 1 : 0);
    };
    // Lengths within tolerance of the right one's, the tolerance doubled until the pool is
    // covered.
    for (qsizetype tolerance = std::max<qsizetype>(1, length / 4); wanted(); tolerance *= 2) {
        const auto from =
            std::lower_bound(pool->begin(), pool->end(), length - tolerance,
                             [](const QString& a, qsizetype size) { return a.size() < size; });
        const auto to =
            std::upper_bound(from, pool->end(), length + tolerance,
                             [](qsizetype size, const QString& a) { return size < a.size(); });
        const bool whole = from == pool->begin() && to == pool->end();
        const qsizetype count = to - from;
        auto offer = [&](const QString& text) {
            if (taken.take(text)) {
                choices.texts.append(text);
            }
        };
        if (count > kSearchedWhole) {
            for (int sample = 0; sample < kSamples && wanted(); ++sample) {
                offer(*(from + (drawPosition(random.next(), int(count)) - 1)));
            }
        }
        if (count <= kSearchedWhole || whole) {
            // Every answer of the range, in a random order: the few there are, or the whole
            // pool when samples did not find enough.
            for (const int position :
                 wanted() ? drawOrder(int(count), random) : std::vector<int>{}) {
                if (!wanted()) {
                    break;
                }
                offer(*(from + position));
            }
        }
        if (whole) {
            break;
        }
    }
    // The right one at a random place among them.
    const std::vector<int> order = drawOrder(int(choices.texts.size()), random);
    QStringList shuffled;
    for (const int position : order) {
        if (position == 0 && !rights.isEmpty()) {
            choices.right = int(shuffled.size());
        }
        shuffled.append(choices.texts.at(position));
    }
    choices.texts = shuffled;
    return choices;
}

}  // namespace drill
