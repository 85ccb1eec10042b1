# Building a string piece by piece.
import sys
n = int(sys.argv[1])
text = ""
for j in range(1, n + 1):
    text = text + "x"
print(len(text))
