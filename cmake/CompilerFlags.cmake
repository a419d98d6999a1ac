# The language and warnings of every build of the rules: the desktop programs,
# their tests and the browser editions.
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)

# Every printed digit comes from one IEEE double operation at a time: no fused
# multiply-add, no fast-math reassociation.
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
                    -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual
                    -Werror=return-type -ffp-contract=off -fno-fast-math)
