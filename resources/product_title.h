// The product's title and setup's caption as preprocessor text, so the
// resource scripts (windres) read them as well as the compilers.
#pragma once

#define ZV_PRODUCT_TITLE "The Zorvane"
#define ZV_SETUP_CAPTION "The Zorvane - Setup"
