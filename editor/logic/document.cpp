#include "editor/logic/document.h"

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

common::ReadOutcome Document::loadFile(const QString& path) {
    common::ReadResult result = common::readWordFile(path);
    if (result.outcome == common::ReadOutcome::Entries) {
        if (result.entries.size() > common::kMaxEntries) {
            return common::ReadOutcome::TooMany;
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
        ids_.append(nextId());
    }
    modified_ = false;
    touch();
    if (observer_) {
        observer_->resetDone();
    }
}

common::WriteResult Document::saveFile(const QString& path) {
    common::WriteResult result = common::writeWordFile(path, entries_);
    if (result.ok) {
        modified_ = false;
    }
    return result;
}

bool Document::add(const common::Entry& entry) {
    return insert(count(), entry);
}

bool Document::insert(int position, const common::Entry& entry) {
    Q_ASSERT(position >= 0 && position <= count());
    if (isFull()) {
        return false;
    }
    if (observer_) {
        observer_->aboutToInsert(position, 1);
    }
    entries_.insert(position, entry);
    ids_.insert(position, nextId());
    modified_ = true;
    touch();
    if (observer_) {
        observer_->insertDone();
    }
    return true;
}

void Document::change(int position, const common::Entry& entry) {
    entries_[position] = entry;
    modified_ = true;
    touch();
    if (observer_) {
        observer_->entryChanged(position);
    }
}

bool Document::append(const QList<common::Entry>& entries) {
    if (entries.isEmpty()) {
        return true;
    }
    if (entries.size() > common::kMaxEntries - count()) {
        return false;
    }
    if (observer_) {
        observer_->aboutToInsert(count(), int(entries.size()));
    }
    entries_.append(entries);
    for (qsizetype i = 0; i < entries.size(); ++i) {
        ids_.append(nextId());
    }
    modified_ = true;
    touch();
    if (observer_) {
        observer_->insertDone();
    }
    return true;
}

void Document::remove(QList<int> positions) {
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    while (!positions.isEmpty() && positions.constLast() >= count()) {
        positions.removeLast();
    }
    while (!positions.isEmpty() && positions.constFirst() < 0) {
        positions.removeFirst();
    }
    if (positions.isEmpty()) {
        return;
    }
    // One compacting pass: removing one by one would move the tail once per entry.
    if (observer_) {
        observer_->aboutToReset();
    }
    qsizetype kept = positions.constFirst();
    auto next = positions.cbegin();
    for (qsizetype from = kept; from < entries_.size(); ++from) {
        if (next != positions.cend() && *next == from) {
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
}

}  // namespace editor
