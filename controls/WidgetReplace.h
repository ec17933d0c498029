#pragma once
// Putting one of the tool's own controls in the place of a plain control that a
// form created, so forms stay plain Designer files.

class QWidget;

// `replacement` (already a child of the same parent) takes over the layout slot
// or the geometry, the object name, tool tip, accessible name and description,
// enabled and hidden state, size constraints, size policy and focus policy of
// `original`, which is then deleted. Callers must drop their pointers to it.
void ReplaceFormWidget(QWidget* original, QWidget* replacement);
