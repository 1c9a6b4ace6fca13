# Writes OUT in sha256sum's own format ("HASH  NAME", names relative to OUT's folder, in
# the order given), so that `sha256sum -c SHA256SUMS` checks a release where it lies.
#   cmake -DOUT=SHA256SUMS "-DFILES=a;b" -P sha256sums.cmake   (run in OUT's folder)
set(text "")
foreach(file IN LISTS FILES)
  file(SHA256 ${file} hash)
  string(APPEND text "${hash}  ${file}\n")
endforeach()
file(WRITE ${OUT}.new "${text}")
file(RENAME ${OUT}.new ${OUT})
