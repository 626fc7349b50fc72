#pragma once

class QWidget;

// Tab into a group of radio buttons lands on its selected button, not on the
// first one of the group, for every radio group under `form`.
void tabToSelectedRadio(QWidget* form);
