// The animation clip "FILECOPY_AVI" (resource type "AVI"): its RIFF headers, every frame
// decoded from BI_RLE8 to a full 260 x 40 picture in 16 colours, and a real animation control
// of the "COPYING" dialog opening and playing it to the end.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <cstring>
#include <string>
#include <vector>

namespace {

enum { CLIP_WIDTH = 260, CLIP_HEIGHT = 40, CLIP_FRAMES = 17 };

struct Chunk {
  const BYTE* data;
  DWORD size;
};

struct Clip {
  std::vector<Chunk> stream_headers;  // every 'strh'
  Chunk avih = {}, strf = {}, idx1 = {};
  std::vector<Chunk> frames;          // '00dc' chunks of 'movi', in order
  bool ok = true;
};

DWORD u32(const BYTE* p) { return p[0] | p[1] << 8 | p[2] << 16 | (DWORD)p[3] << 24; }

// Walks the chunks in [p, end), descending into LIST chunks.
void walk(const BYTE* p, const BYTE* end, const char* list_kind, Clip* clip) {
  while (p + 8 <= end) {
    DWORD size = u32(p + 4);
    const BYTE* data = p + 8;
    if (data + size > end) {
      clip->ok = false;
      return;
    }
    if (!memcmp(p, "LIST", 4) && size >= 4) {
      char kind[5] = {};
      memcpy(kind, data, 4);
      walk(data + 4, data + size, kind, clip);
    } else if (!memcmp(p, "avih", 4)) {
      clip->avih = {data, size};
    } else if (!memcmp(p, "strh", 4)) {
      clip->stream_headers.push_back({data, size});
    } else if (!memcmp(p, "strf", 4)) {
      clip->strf = {data, size};
    } else if (!memcmp(p, "idx1", 4)) {
      clip->idx1 = {data, size};
    } else if (!strcmp(list_kind, "movi") && !memcmp(p, "00dc", 4)) {
      clip->frames.push_back({data, size});
    }
    p = data + size + (size & 1);
  }
}

bool load_clip(Clip* clip, DWORD* total) {
  HRSRC found = FindResourceW(nullptr, L"FILECOPY_AVI", L"AVI");
  if (!found) return false;
  const BYTE* riff = (const BYTE*)LockResource(LoadResource(nullptr, found));
  *total = SizeofResource(nullptr, found);
  if (!riff || *total < 12 || memcmp(riff, "RIFF", 4) || memcmp(riff + 8, "AVI ", 4)) return false;
  if (u32(riff + 4) + 8 > *total) return false;
  walk(riff + 12, riff + 8 + u32(riff + 4), "", clip);
  return clip->ok;
}

// Decodes one BI_RLE8 frame (bottom-up). Empty on any coding fault: a row longer or shorter
// than the width, a missing end of picture, a colour index of 16 or more.
std::vector<BYTE> decode_rle8(const Chunk& frame) {
  std::vector<BYTE> px(CLIP_WIDTH * CLIP_HEIGHT, 0xFF);
  const BYTE* p = frame.data;
  const BYTE* end = p + frame.size;
  int x = 0, y = CLIP_HEIGHT - 1;
  while (p + 2 <= end) {
    BYTE n = p[0], c = p[1];
    p += 2;
    if (n) {  // a run of n pixels of colour c
      if (x + n > CLIP_WIDTH || y < 0 || c >= 16) return {};
      memset(&px[y * CLIP_WIDTH + x], c, n);
      x += n;
    } else if (c == 0) {  // end of row
      if (x != CLIP_WIDTH) return {};
      x = 0, y--;
    } else if (c == 1) {  // end of picture: must come after the last (top) row
      if (y != 0 || x != CLIP_WIDTH) return {};
      return px;
    } else if (c == 2) {  // delta: not used in a clip of key frames
      return {};
    } else {  // absolute run of c pixels, padded to a word
      if (p + c > end || x + c > CLIP_WIDTH || y < 0) return {};
      for (int i = 0; i < c; i++) {
        if (p[i] >= 16) return {};
        px[y * CLIP_WIDTH + x + i] = p[i];
      }
      x += c;
      p += c + (c & 1);
    }
  }
  return {};
}

TEST(CopyClip, HeadersDescribeOneVideoStreamOf17FramesAt10PerSecond) {
  Clip clip;
  DWORD total = 0;
  ASSERT_TRUE(load_clip(&clip, &total));
  ASSERT_GE(clip.avih.size, 40u);
  EXPECT_EQ(u32(clip.avih.data + 0), 100000u);  // microseconds per frame
  EXPECT_EQ(u32(clip.avih.data + 16), (DWORD)CLIP_FRAMES);
  EXPECT_EQ(u32(clip.avih.data + 24), 1u);      // streams
  EXPECT_EQ(u32(clip.avih.data + 32), (DWORD)CLIP_WIDTH);
  EXPECT_EQ(u32(clip.avih.data + 36), (DWORD)CLIP_HEIGHT);
  ASSERT_EQ(clip.stream_headers.size(), 1u);  // no sound stream
  const BYTE* strh = clip.stream_headers[0].data;
  EXPECT_EQ(memcmp(strh, "vids", 4), 0);
  EXPECT_EQ(u32(strh + 24) / u32(strh + 20), 10u);  // rate / scale
  EXPECT_EQ(u32(strh + 32), (DWORD)CLIP_FRAMES);     // length
  ASSERT_GE(clip.strf.size, sizeof(BITMAPINFOHEADER) + 16 * 4);
  BITMAPINFOHEADER bih;
  memcpy(&bih, clip.strf.data, sizeof bih);
  EXPECT_EQ(bih.biWidth, CLIP_WIDTH);
  EXPECT_EQ(bih.biHeight, CLIP_HEIGHT);
  EXPECT_EQ(bih.biBitCount, 8);
  EXPECT_EQ(bih.biCompression, (DWORD)BI_RLE8);
  EXPECT_EQ(bih.biClrUsed, 16u);
  EXPECT_EQ(clip.frames.size(), (size_t)CLIP_FRAMES);
  EXPECT_EQ(clip.idx1.size, 16u * CLIP_FRAMES);
}

TEST(CopyClip, EveryFrameIsAWholePictureAndThePictureMoves) {
  Clip clip;
  DWORD total = 0;
  ASSERT_TRUE(load_clip(&clip, &total));
  ASSERT_EQ(clip.frames.size(), (size_t)CLIP_FRAMES);
  std::vector<std::vector<BYTE>> pictures;
  for (const Chunk& frame : clip.frames) {
    pictures.push_back(decode_rle8(frame));
    ASSERT_EQ(pictures.back().size(), (size_t)CLIP_WIDTH * CLIP_HEIGHT) << pictures.size();
  }
  // The top-left pixel is the see-through colour of ACS_TRANSPARENT: the same in every frame.
  const int top_left = (CLIP_HEIGHT - 1) * CLIP_WIDTH;
  for (const auto& picture : pictures) EXPECT_EQ(picture[top_left], pictures[0][top_left]);
  for (int i = 1; i < CLIP_FRAMES; i++) EXPECT_NE(pictures[i], pictures[i - 1]) << i;
  // The decoder refuses a damaged frame: a row cut short.
  std::vector<BYTE> cut(clip.frames[0].data, clip.frames[0].data + clip.frames[0].size);
  cut[0] = (BYTE)(cut[0] - 1);
  EXPECT_TRUE(decode_rle8({cut.data(), (DWORD)cut.size()}).empty());
}

struct PlayLog {
  DWORD started, stopped;  // tick counts of ACN_START and ACN_STOP; 0 before
};

INT_PTR CALLBACK copying_proc(HWND dialog, UINT msg, WPARAM wparam, LPARAM) {
  if (msg == WM_COMMAND && LOWORD(wparam) == 1020) {
    PlayLog* log = (PlayLog*)GetWindowLongPtrW(dialog, DWLP_USER);
    if (log && HIWORD(wparam) == ACN_START) log->started = GetTickCount();
    if (log && HIWORD(wparam) == ACN_STOP) log->stopped = GetTickCount();
    return TRUE;
  }
  return msg == WM_INITDIALOG;
}

TEST(CopyClip, TheAnimationControlOpensAndPlaysItToTheEnd) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_ANIMATE_CLASS | ICC_PROGRESS_CLASS};
  ASSERT_TRUE(InitCommonControlsEx(&controls));
  HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), L"COPYING", nullptr, copying_proc, 0);
  ASSERT_NE(dialog, nullptr);
  PlayLog log = {0, 0};
  SetWindowLongPtrW(dialog, DWLP_USER, (LONG_PTR)&log);
  HWND animation = GetDlgItem(dialog, 1020);
  ASSERT_NE(animation, nullptr);
  EXPECT_FALSE(SendMessageW(animation, ACM_OPENW, 0, (LPARAM)L"NO_SUCH_AVI"));
  ASSERT_TRUE(SendMessageW(animation, ACM_OPENW, 0, (LPARAM)L"FILECOPY_AVI"));
  DWORD begin = GetTickCount();
  ASSERT_TRUE(SendMessageW(animation, ACM_PLAY, 1, MAKELONG(0, 0xFFFF)));  // once, all frames
  MSG msg;
  while (!log.stopped && GetTickCount() - begin < 10000) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(10);
  }
  EXPECT_NE(log.started, 0u);
  ASSERT_NE(log.stopped, 0u);
  // 17 frames of 100 ms: the play takes about 1.7 s, not one frame's time.
  EXPECT_GE(log.stopped - begin, 1200u);
  SendMessageW(animation, ACM_OPENW, 0, 0);  // closes the clip
  DestroyWindow(dialog);
}

}  // namespace
