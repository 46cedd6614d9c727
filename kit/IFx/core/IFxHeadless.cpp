#include "IFxHeadless.h"

IFxHeadless::IFxHeadless(IFxInstanceInfo /*instanceInfo*/, int nParams, const char* channelIOStr,
                         int nPresets, const char* effectName, const char* productName,
                         const char* mfrName, int vendorVersion, int uniqueID, int mfrID, int latency,
                         bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst)
  : IFxBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion, uniqueID,
            mfrID, latency, plugDoesMidi, plugDoesChunks, plugIsInst)
{
  SetInputChannelConnections(0, NInChannels(), true);
  SetOutputChannelConnections(0, NOutChannels(), true);
  IFxBase::SetBlockSize(1024);
}

void IFxHeadless::GetTimeSig(int* pNum, int* pDenom)
{
  *pNum = 4;
  *pDenom = 4;
}

bool IFxHeadless::SendMidiMsgs(KIT_TypedBuf<IMidiMsg>* pMsgs)
{
  bool allSent = true;
  for (int i = 0; i < pMsgs->GetSize(); ++i) allSent = SendMidiMsg(pMsgs->Get() + i) && allSent;
  return allSent;
}

void IFxHeadless::ProcessDoubleBlock(double** inputs, int nInputs, double** outputs, int nOutputs, int nFrames)
{
  AttachInputBuffers(0, nInputs, inputs, nFrames);
  AttachOutputBuffers(0, nOutputs, outputs);
  ProcessBuffers(0.0, nFrames);
}
