// SPDX-FileCopyrightText: 2026 Kotobax developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "editor/logic/document.h"

#include <QSet>

#include <algorithm>

namespace editor {

std::optional<int> Document::positionOf(EntryId id) const {
    const auto it = std::find(ids_.cbegin(), ids_.cend(), id);
    if (it == ids_.cend()) {
        return std::nullopt;
    }
    return int(it - ids_.cbegin());
}

void Document::clear() {
    replaceAll({});
}

common::Outcome Document::loadFile(const QString& path) {
    common::ReadResult result = common::readWordFile(path);
    if (result.ok()) {
        if (result.entries.size() > common::kMaxEntries) {
            return common::Outcome::failure(common::OutcomeKind::TooMany);
        }
        replaceAll(std::move(result.entries));
    }
    return result.outcome;
}

void Document::replaceAll(QList<common::Entry> entries) {
    Q_ASSERT(entries.size() <= common::kMaxEntries);
    if (observer_) {
        observer_->aboutToReset();
    }
    entries_ = std::move(entries);
    ids_.clear();
    ids_.reserve(entries_.size());
    for (qsizetype i = 0; i < entries_.size(); ++i) {
        ids_.append(newId());
    }
    modified_ = false;
    touch();
    if (observer_) {
        observer_->resetDone();
    }
}

common::Outcome Document::saveFile(const QString& path) {
    common::Outcome result = common::writeWordFile(path, entries_);
    if (result.ok()) {
        modified_ = false;
    }
    return result;
}

void Document::replace(EntryId id, const common::Entry& entry) {
    const std::optional<int> position = positionOf(id);
    if (!position) {
        return;
    }
    entries_[*position] = entry;
    modified_ = true;
    touch();
    if (observer_) {
        observer_->entryChanged(*position);
    }
}

QList<int> Document::positionsOf(const QList<EntryId>& ids) const {
    const QSet<EntryId> wanted(ids.cbegin(), ids.cend());
    QList<int> positions;
    for (qsizetype p = 0; p < ids_.size() && positions.size() < wanted.size(); ++p) {
        if (wanted.contains(ids_.at(p))) {
            positions.append(int(p));
        }
    }
    return positions;
}

void Document::place(const QList<PlacedEntry>& placed) {
    if (placed.isEmpty()) {
        return;
    }
    Q_ASSERT(placed.size() <= common::kMaxEntries - count());
    const int first = placed.constFirst().position;
    const bool oneRun = placed.constLast().position == first + placed.size() - 1;
    if (observer_) {
        if (oneRun) {
            observer_->aboutToInsert(first, int(placed.size()));
        } else {
            observer_->aboutToReset();
        }
    }
    // One merging pass: inserting one by one would move the tail once per entry.
    QList<common::Entry> entries;
    QList<EntryId> ids;
    const qsizetype total = entries_.size() + placed.size();
    entries.reserve(total);
    ids.reserve(total);
    auto next = placed.cbegin();
    qsizetype from = 0;
    for (qsizetype to = 0; to < total; ++to) {
        if (next != placed.cend() && next->position == to) {
            entries.append(next->entry);
            ids.append(next->id);
            ++next;
        } else {
            entries.append(std::move(entries_[from]));
            ids.append(ids_.at(from));
            ++from;
        }
    }
    entries_ = std::move(entries);
    ids_ = std::move(ids);
    modified_ = true;
    touch();
    if (observer_) {
        if (oneRun) {
            observer_->insertDone();
        } else {
            observer_->resetDone();
        }
    }
}

QList<PlacedEntry> Document::take(const QList<EntryId>& ids) {
    const QList<int> positions = positionsOf(ids);
    if (positions.isEmpty()) {
        return {};
    }
    // One compacting pass: removing one by one would move the tail once per entry.
    if (observer_) {
        observer_->aboutToReset();
    }
    QList<PlacedEntry> taken;
    taken.reserve(positions.size());
    qsizetype kept = positions.constFirst();
    auto next = positions.cbegin();
    for (qsizetype from = kept; from < entries_.size(); ++from) {
        if (next != positions.cend() && *next == from) {
            taken.append({int(from), ids_.at(from), std::move(entries_[from])});
            ++next;
            continue;
        }
        entries_[kept] = std::move(entries_[from]);
        ids_[kept] = ids_[from];
        ++kept;
    }
    entries_.resize(kept);
    ids_.resize(kept);
    modified_ = true;
    touch();
    if (observer_) {
        observer_->resetDone();
    }
    return taken;
}

}  // namespace editor
