#include "YKBrushRenderer.h"

YKBrushRenderer::~YKBrushRenderer() = default;

void YKBrushRenderer::GetBrushSize(uint32* width, uint32* height) const {
    *width = 0;
    *height = 0;
}

void YKBrushRenderer::DrawBrush(YKBitmap*, YKPoint<int32>, YKRect<int32>* touched) {
    if (touched != nullptr) {
        *touched = YKRect<int32>::None();
    }
}

void YKBrushRenderer::Archive(YKMessage*) const {}

void YKBrushRenderer::Unarchive(const YKMessage*) {}
