#include "settings/GridColumns.h"

#include "settings/Settings.h"

#include <QHeaderView>

#include <algorithm>
#include <vector>

namespace cdk {

namespace {

QString sizeKey(const QString &gridName, int logical)
{
    return gridName + QStringLiteral("SizeColumn") + QString::number(logical + 1);
}

QString orderKey(const QString &gridName, int logical)
{
    return gridName + QStringLiteral("OrderColumn") + QString::number(logical + 1);
}

} // namespace

void SaveSGridColumns(clsSettings &settings, const QHeaderView *header, const QString &gridName)
{
    for (int logical = 0; logical < header->count(); ++logical) {
        // A hidden section reports width 0; its last stored width is what it
        // gets back when shown again, so that key is left alone.
        if (!header->isSectionHidden(logical))
            settings.SaveNum(SettingsSection::Columns, sizeKey(gridName, logical),
                             header->sectionSize(logical));
        settings.SaveNum(SettingsSection::Columns, orderKey(gridName, logical),
                         header->visualIndex(logical) + 1);
    }
}

void LoadSGridColumns(clsSettings &settings, QHeaderView *header, const QString &gridName)
{
    struct Placement
    {
        int logical;
        int visual;
    };
    std::vector<Placement> placements;
    const int count = header->count();
    for (int logical = 0; logical < count; ++logical) {
        const qint32 order = settings.LoadLong(SettingsSection::Columns, orderKey(gridName, logical));
        const qint32 width = settings.LoadLong(SettingsSection::Columns, sizeKey(gridName, logical));
        if (width > 0)
            header->resizeSection(logical, width);
        // A position beyond the last column cannot be honoured.
        if (order > 0 && order <= count)
            placements.push_back({logical, order - 1});
    }
    // Placing the columns from the leftmost target position onwards never
    // disturbs a column already placed, so any saved order comes back exactly.
    std::stable_sort(placements.begin(), placements.end(),
                     [](const Placement &a, const Placement &b) { return a.visual < b.visual; });
    for (const Placement &placement : placements) {
        const int from = header->visualIndex(placement.logical);
        if (from != placement.visual)
            header->moveSection(from, placement.visual);
    }
}

} // namespace cdk
