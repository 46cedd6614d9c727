#pragma once
// The editor surface of each build: an IGraphicsMac that finds its images in the bundle of that
// build (the Audio Unit's or the VST plug-in's, by its reverse-domain identifier).

#include "KestrovaneApi.h"

class IGraphicsMac;

IGraphicsMac* MakeGraphics(IFxAPI* pPlug, int w, int h, int fps);
