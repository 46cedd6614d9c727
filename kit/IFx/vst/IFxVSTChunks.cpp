// IFxVST: state chunks (the header, get-chunk and set-chunk) and incoming events.

#include <cstring>

#include "IFxVST.h"

void IFxVST::InitializeVSTChunk(ByteChunk* pChunk)
{
  pChunk->Clear();
  int32_t magic = kChunkMagic, version = kChunkVersion;
  pChunk->Put(&magic);
  pChunk->Put(&version);
}

int IFxVST::GetIFxVerFromChunk(const ByteChunk* pChunk, int* pPos)
{
  int32_t magic = 0;
  const int afterMagic = pChunk->Get(&magic, *pPos);
  if (afterMagic < 0 || magic != kChunkMagic) return 0;
  int32_t version = 0;
  *pPos = pChunk->Get(&version, afterMagic);
  return *pPos < 0 ? 0 : version;
}

VstIntPtr IFxVST::GetChunk(void** ppData, bool isBank)
{
  if (!ppData) return 0;
  ByteChunk* pChunk = isBank ? &mBankState : &mState;
  InitializeVSTChunk(pChunk);
  if (isBank) ModifyCurrentPreset();
  if (SerializeState(pChunk) && pChunk->Size())
  {
    *ppData = pChunk->GetBytes();
    return pChunk->Size();
  }
  return 0;
}

// The byte count is the host's word, so it is bounded by what can be known: a count below zero or
// beyond int is refused; data inside one of our own chunks (a host handing back what get-chunk
// gave it) is read no further than that chunk's end; and a plug-in whose state is the parameter
// body is read no further than the header and that body. The data is copied before anything is
// read, and a chunk that does not load whole changes nothing and is refused.
VstIntPtr IFxVST::SetChunk(const void* pData, VstIntPtr nBytes, bool isBank)
{
  if (!pData || nBytes < 0 || nBytes > (VstIntPtr)INT_MAX) return 0;

  for (const ByteChunk* pOwn : { &mState, &mBankState })
  {
    const uintptr_t start = (uintptr_t)pOwn->GetBytes(), end = start + (uintptr_t)pOwn->Size();
    const uintptr_t p = (uintptr_t)pData;
    if (pOwn->Size() && p >= start && p < end && (uintptr_t)nBytes > end - p) nBytes = (VstIntPtr)(end - p);
  }
  if (!DoesStateChunks())
  {
    const int64_t used = 8 + (int64_t)NParams() * (int64_t)sizeof(double);
    if ((int64_t)nBytes > used) nBytes = (VstIntPtr)used;
  }

  ByteChunk incoming;
  incoming.Resize((int)nBytes);
  if (incoming.Size() != (int)nBytes) return 0;
  if (nBytes) memcpy(incoming.GetBytes(), pData, (size_t)nBytes);

  int pos = 0;
  const int version = GetIFxVerFromChunk(&incoming, &pos);
  if (pos < 0) return 0;
  pos = UnserializeState(&incoming, pos);
  if (pos < 0) return 0;
  // A bank this framework wrote leaves the stored presets alone; a program chunk, or a bank of an
  // older or no header, becomes the current preset's values too.
  if (!(isBank && version > 0xFFFF)) ModifyCurrentPreset();

  ByteChunk* pChunk = isBank ? &mBankState : &mState;
  pChunk->Clear();
  pChunk->PutChunk(&incoming);
  RedrawParamControls();
  return 1;
}

VstIntPtr IFxVST::ProcessEvents(VstEvents* pEvents)
{
  if (!pEvents) return 0;
  // Hosts allocate as many pointers as numEvents says, past the two the record declares.
  VstEvent* const* ppEvents = pEvents->events;
  for (VstInt32 i = 0; i < pEvents->numEvents; ++i)
  {
    VstEvent* pEvent = ppEvents[i];
    if (!pEvent) continue;
    if (pEvent->type == kVstMidiType)
    {
      const VstMidiEvent* pMidi = (const VstMidiEvent*)pEvent;
      IMidiMsg msg(pMidi->deltaFrames, (unsigned char)pMidi->midiData[0], (unsigned char)pMidi->midiData[1],
                   (unsigned char)pMidi->midiData[2]);
      ProcessMidiMsg(&msg);
    }
    else
    {
      SendVSTEvent(pEvent);
    }
  }
  return 1;
}
