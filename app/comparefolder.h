#pragma once

#include "search/diff.h"

#include <QString>

#include <vector>

class QWidget;

// Shows what the answer shown would be on another data folder: the entries
// that appear, vanish or change there, one a line as the tool's diff writes
// them, or that nothing changes. `heading` is the answer's heading.
void showComparison(QWidget* parent, const QString& heading, const QString& other,
                    const std::vector<qdc::DiffRow>& rows);
