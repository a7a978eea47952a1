#include "common/Guard.h"

#include <exception>
#include <new>

#include "common/Exception.h"

bool RunGuarded(Prompts& prompts, const std::function<void()>& action) {
  try {
    action();
    return true;
  } catch (const EAbort&) {
  } catch (const std::bad_alloc&) {
    prompts.ShowError("Out of memory");
  } catch (const std::exception& error) {
    prompts.ShowError(error.what());
  } catch (...) {
    prompts.ShowError("Unknown error");
  }
  return false;
}
