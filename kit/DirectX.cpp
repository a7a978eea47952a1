#include "kit/DirectX.h"

bool TDirectX::SetDXResult(HRESULT result) {
  errorCode_ = result;
  if (result != DS_OK) Check();
  return result == DS_OK;
}
