// One unpaced game frame composed on the in-memory canvas: star copy, two layer draws, 30
// glyphs, seven 80 × 80 sprites, 40 bullets, 151 sparks and the final copy to the visible picture.
#include <benchmark/benchmark.h>

#include "platform/vcl/imglist.h"

namespace {
// A sprite of size × size: a disc of colour on black, with a hole so rows hold two runs.
void MakeSprite(TBitmap& b, int size, TColor colour)
{
    b.SetSize(size, size);
    const int r = size / 2 - 2, c = size / 2;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int d = (x - c) * (x - c) + (y - c) * (y - c);
            if (d < r * r && d > r * r / 9) b.Canvas->Pixels[x][y] = colour + (x ^ y) % 7;
        }
}

struct Frame {
    TBitmap I0, I1, I2;
    TImageList IL400{nullptr, 400, 300}, IL80{nullptr, 80, 80}, IL24{nullptr, 24, 24};
    TImageList Font0{nullptr, 16, 16}, Spa8{nullptr, 10, 10};
    unsigned seed = 1;
    int Next(int n) { return int((seed = seed * 1103515245u + 12345u) >> 8) % n; }

    Frame()
    {
        I0.SetSize(400, 600);
        I1.SetSize(400, 300);
        I2.SetSize(400, 300);
        for (int i = 0; i < 120; ++i) {
            const int x = Next(400), y = Next(300);
            I0.Canvas->Pixels[x][y] = clTeal;
            I0.Canvas->Pixels[x][y + 300] = clTeal;
        }
        TBitmap layer;
        layer.SetSize(400, 300);
        for (int i = 0; i < 80; ++i) layer.Canvas->Pixels[Next(400)][Next(300)] = i % 2 ? clYellow : clAqua;
        IL400.AddMasked(&layer, clBlack);
        TBitmap sprite;
        MakeSprite(sprite, 80, clLime);
        IL80.AddMasked(&sprite, clBlack);
        MakeSprite(sprite, 24, clRed);
        IL24.AddMasked(&sprite, clBlack);
        MakeSprite(sprite, 16, clLime);
        Font0.AddMasked(&sprite, clBlack);
        MakeSprite(sprite, 10, clYellow);
        Spa8.AddMasked(&sprite, clBlack);
    }

    void Compose(int scroll)
    {
        I1.Canvas->CopyRect(Rect(0, 0, 400, 300), I0.Canvas, Rect(0, scroll, 400, scroll + 300));
        IL400.Draw(I1.Canvas, 0, scroll, 0);
        IL400.Draw(I1.Canvas, 0, scroll - 300, 0);
        for (int i = 0; i < 30; ++i) Font0.Draw(I1.Canvas, 10 + 12 * i, 2 + 20 * (i / 10), 0);
        for (int i = 0; i < 7; ++i) IL80.Draw(I1.Canvas, -20 + 60 * i, 20 + 30 * i, 0);
        for (int i = 0; i < 40; ++i) IL24.Draw(I1.Canvas, (i * 37) % 410 - 10, (i * 53) % 310 - 10, 0);
        for (int i = 0; i < 151; ++i) Spa8.Draw(I1.Canvas, (i * 29) % 400, (i * 17) % 300, 0);
        I2.Canvas->CopyRect(I2.Canvas->ClipRect, I1.Canvas, I2.Canvas->ClipRect);
    }
};

void BM_ComposedFrame(benchmark::State& state)
{
    Frame frame;
    int scroll = 0;
    for (auto _ : state) {
        frame.Compose(scroll);
        scroll = (scroll + 1) % 300;
        benchmark::DoNotOptimize(frame.I2.Buffer().Pixels.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ComposedFrame)->Unit(benchmark::kMicrosecond)->Repetitions(15)->ReportAggregatesOnly(true);

// The score pop-ups: the same short texts every frame, served from the text cache.
void BM_CachedTextOut(benchmark::State& state)
{
    TBitmap b;
    b.SetSize(400, 300);
    b.Canvas->Font->Style = TFontStyles() << fsBold;
    b.Canvas->Font->Color = clYellow;
    b.Canvas->Brush->Style = bsClear;
    for (auto _ : state) {
        for (int i = 0; i < 11; ++i) b.Canvas->TextOut(20 * i, 10 * i, i % 2 ? "100" : "1000");
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CachedTextOut)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The bonus hit's ring at its largest, mostly outside the picture.
void BM_LargeRing(benchmark::State& state)
{
    TBitmap b;
    b.SetSize(400, 300);
    b.Canvas->Pen->Mode = pmMerge;
    b.Canvas->Pen->Color = clYellow;
    b.Canvas->Brush->Style = bsClear;
    const int d = 39 * 13;
    for (auto _ : state) {
        b.Canvas->Ellipse(200 + d, 100 + d, 200 - d, 100 - d);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_LargeRing)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
}  // namespace

BENCHMARK_MAIN();
