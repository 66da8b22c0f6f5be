#include "app/ProductLinks.h"

TProductLinks BuildLinks() {
  return {ZEPHYRA_FEEDBACK_ADDRESS, ZEPHYRA_MAKER_URL, ZEPHYRA_RMS_REFERENCE_URL};
}
