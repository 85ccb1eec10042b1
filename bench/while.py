# WHILE loop with an IF in its body.
import sys
n = int(sys.argv[1])
k = even = odd = 0
while k < n:
    if k % 2 == 0:
        even = even + 1
    else:
        odd = odd + 1
    k = k + 1
print(even, odd)
