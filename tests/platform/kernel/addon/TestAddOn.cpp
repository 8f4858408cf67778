// A minimal add-on: one function and one variable to look up.
extern "C" {

int test_addon_value = 42;

int test_addon_twice(int value)
{
	return value * 2;
}

}
