// The image library's code, built once; its own warnings are not ours to mend.
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
