#pragma once
// The tooltip of the row under the mouse in one of the pages' lists, as Help's menu sets it:
// nothing while tooltips are off; with the position locked, the tip stands centred under the
// list instead of following the cursor. An empty text hides any tip.
//
//     case QEvent::ToolTip: return ShowHotToolTip(m_List, help->pos(), TipOf(row));
#include <QPoint>
#include <QRect>
#include <string>

class QAbstractScrollArea;

// position is in the list's viewport; always true (the event is handled). With a row area (in
// the viewport) the tip goes away when the cursor leaves it, so that the next row's text is
// asked for.
bool ShowHotToolTip(QAbstractScrollArea* list, const QPoint& position, const std::string& tip,
                    const QRect& rowArea = QRect());
