#pragma once

#include <QAbstractButton>
#include <QButtonGroup>
#include <QRadioButton>
#include <initializer_list>
#include <utility>

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

// A button group on box whose ids are the values its items stand for, so
// checkedId() reads as the value.
inline QButtonGroup* MakeRadioGroup(QWidget* box,
                                    std::initializer_list<std::pair<QRadioButton*, int>> items)
{
    auto* buttons = new QButtonGroup(box);
    for (const auto& [radio, id] : items)
        buttons->addButton(radio, id);
    return buttons;
}

} // namespace vexa
