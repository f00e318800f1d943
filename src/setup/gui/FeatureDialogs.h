#pragma once
// Opening the dialog of a feature tree node: the value dialog (203 numbers, 217 addresses, 204
// frequencies and texts, 206 lists and switches), the sequence dialog (215) or the template
// dialog (216). A read-only item gives the box "This feature is READONLY." instead.
#include "common/Tree.h"

class QWidget;
class UIFeatures;

// True when the dialog ended with OK (the block may have changed).
bool OpenFeatureDialog(QWidget* parent, UIFeatures& model, TreeHandle node);
