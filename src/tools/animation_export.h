#pragma once
// Writes the frames of an animation as one animated file, through the save
// dialog's rules; the animator hands it one full sweep.
#include <QImage>
#include <vector>

class FamilyWindow;

// The frames (canvas images, all of one size) with this delay each, in
// hundredths of a second, looping for ever. True when a file was written;
// the user is told why not otherwise (a cancelled dialog tells nothing).
bool exportAnimation(FamilyWindow& window, const std::vector<QImage>& frames, int delayCentiseconds);
