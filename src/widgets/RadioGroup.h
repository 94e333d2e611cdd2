#pragma once

#include <QAbstractButton>
#include <QButtonGroup>

namespace vexa {

// Selects item index of a radio group; an index outside it selects nothing.
inline void SelectItem(QButtonGroup* group, int index)
{
    if (QAbstractButton* button = group->button(index)) {
        button->setChecked(true);
        return;
    }
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons())
        b->setChecked(false);
    group->setExclusive(true);
}

} // namespace vexa
