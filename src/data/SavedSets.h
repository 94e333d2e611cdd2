#pragma once

#include <QHash>
#include <QObject>
#include <QStringList>
#include <cstdint>

namespace vexa {

class DataSetStore;
struct DataSetRecord;

// Which sets of a store hold what a file holds: those loaded or saved and
// not changed since. The set the program starts with holds no one's data
// and never needs saving.
class SavedSets final : public QObject {
    Q_OBJECT

public:
    explicit SavedSets(DataSetStore& store);

    void SetStartupSet(int k);
    // The store's set k now holds what a file holds.
    void NoteSaved(int k);
    // The names of the sets downloaded or changed and not saved since.
    QStringList UnsavedNames() const;

private:
    DataSetStore& Store;
    // What each set held when it was last loaded or saved.
    QHash<const DataSetRecord*, std::uint64_t> Digests;
    // Null once deleted: a new set may come to live where it was.
    const DataSetRecord* StartupSet = nullptr;
};

// The question before closing with the sets of names unsaved; a long list
// is cut after ten names.
QString UnsavedSetsQuestion(QStringList names);

} // namespace vexa
