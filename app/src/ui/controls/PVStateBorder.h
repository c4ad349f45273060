#pragma once

// The border that picture buttons (pointer style tiles, screen choice items)
// show for their state: thick blue when selected or pressed with the pointer
// inside, thin light blue when only hovered or pressed, none when idle.

class PVButton;
class PVImageView;

/// Gives `border` the look of `button`'s state. Idle clears the colour and
/// leaves the width as it was.
void showStateBorder(const PVButton& button, PVImageView& border);
