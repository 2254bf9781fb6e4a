//
//  PR.h
//
//
//  Created by {import} on 2026/12/05.
//  Copyright © 2026年 {code} Ltd. All rights reserved.
//

#import <Foundation/Foundation.h>
#import "PItems.h"

NS_ASSUME_NONNULL_BEGIN

@interface PR : NSObject

@property (nonatomic, copy) NSArray<PItems *> *items;

@end

NS_ASSUME_NONNULL_END
