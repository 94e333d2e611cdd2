#include "SavedSets.h"

#include "DataFile.h"
#include "DataSetStore.h"

#include <QStringListModel>

namespace vexa {

SavedSets::SavedSets(DataSetStore& store) : Store(store)
{
    connect(Store.Names(), &QAbstractItemModel::rowsRemoved, this, [this] {
        for (int k = 0; k < Store.SetCount(); ++k)
            if (&Store.Set(k) == StartupSet)
                return;
        StartupSet = nullptr;
    });
}

void SavedSets::SetStartupSet(int k)
{
    StartupSet = k >= 0 && k < Store.SetCount() ? &Store.Set(k) : nullptr;
}

void SavedSets::NoteSaved(int k)
{
    if (k >= 0 && k < Store.SetCount())
        Digests.insert(&Store.Set(k), SavedContentDigest(Store.Set(k)));
}

QStringList SavedSets::UnsavedNames() const
{
    QStringList names;
    for (int k = 0; k < Store.SetCount(); ++k) {
        const DataSetRecord& set = Store.Set(k);
        if (&set == StartupSet)
            continue;
        const auto saved = Digests.constFind(&set);
        if (saved == Digests.cend() || *saved != SavedContentDigest(set))
            names << set.name;
    }
    return names;
}

QString UnsavedSetsQuestion(QStringList names)
{
    constexpr int Listed = 10;
    if (names.size() > Listed) {
        const qsizetype more = names.size() - Listed;
        names.resize(Listed);
        names << QStringLiteral("and %1 more").arg(more);
    }
    return QStringLiteral("These data sets were downloaded or changed and have not "
                          "been saved since:\n") +
           names.join(QLatin1Char('\n'));
}

} // namespace vexa
